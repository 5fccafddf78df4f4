#version 120
// Phong preview shading, fragment stage.
//
// The object's colour, modulated a little by its own texture on unit 0
// (planeTex: the box faces, the brick map of the plane) and by the texture on
// unit 1 (cubeTex and brickTex name the same unit). LightPosition is taken
// relative to the viewer (eye space), as in the normal-map shader.

uniform sampler2D planeTex;
uniform sampler2D cubeTex;
uniform sampler2D brickTex;
uniform vec3 LightPosition;

varying vec3 eyePosition;
varying vec3 eyeNormal;
varying vec2 texCoord;
varying vec4 baseColor;

void main() {
    vec3 view = normalize(-eyePosition);
    vec3 normal = normalize(eyeNormal);
    if (dot(normal, view) < 0.0) {
        normal = -normal;  // both sides of a surface are lit
    }
    vec3 own = texture2D(planeTex, texCoord).rgb;
    vec3 tint = 0.5 * (texture2D(cubeTex, texCoord).rgb + texture2D(brickTex, texCoord).rgb);
    vec3 albedo = baseColor.rgb * mix(vec3(1.0), own, 0.3) * mix(vec3(1.0), tint, 0.2);

    vec3 light = normalize(LightPosition - eyePosition);
    vec3 halfway = normalize(light + view);
    float diffuse = max(dot(normal, light), 0.0);
    float specular = diffuse > 0.0 ? pow(max(dot(normal, halfway), 0.0), 20.0) : 0.0;
    gl_FragColor = vec4(albedo * (0.2 + 0.8 * diffuse) + vec3(0.5 * specular), baseColor.a);
}
