#version 120
// Normal-mapped preview shading, fragment stage.
//
// planeTex (unit 0) is the texture of the object being drawn, read as a
// tangent-space normal map (the plane binds the brick normals, the mesh its
// own). cubeTex and brickTex both name unit 1, whose texture tints the
// object's colour a little. LightPosition is taken relative to the viewer
// (eye space): close enough for a preview whose camera sits near the scene.

uniform sampler2D planeTex;
uniform sampler2D cubeTex;
uniform sampler2D brickTex;
uniform vec3 LightPosition;

varying vec3 eyePosition;
varying vec3 eyeNormal;
varying vec3 eyeTangent;
varying vec2 texCoord;
varying vec4 baseColor;

void main() {
    vec3 view = normalize(-eyePosition);
    vec3 n = normalize(eyeNormal);
    if (dot(n, view) < 0.0) {
        n = -n;  // both sides of a surface are lit
    }
    // The tangent made perpendicular to the normal; any perpendicular
    // direction serves where the two are parallel or no tangent was given.
    vec3 t = eyeTangent - n * dot(n, eyeTangent);
    if (dot(t, t) < 1e-6) {
        t = abs(n.x) < 0.9 ? cross(n, vec3(1.0, 0.0, 0.0)) : cross(n, vec3(0.0, 1.0, 0.0));
    }
    t = normalize(t);
    vec3 b = cross(n, t);

    vec3 mapped = texture2D(planeTex, texCoord).rgb * 2.0 - 1.0;
    vec3 normal = normalize(t * mapped.x + b * mapped.y + n * max(mapped.z, 0.2));

    vec3 tint = 0.5 * (texture2D(cubeTex, texCoord).rgb + texture2D(brickTex, texCoord).rgb);
    vec3 albedo = baseColor.rgb * mix(vec3(1.0), tint, 0.2);

    vec3 light = normalize(LightPosition - eyePosition);
    vec3 halfway = normalize(light + view);
    float diffuse = max(dot(normal, light), 0.0);
    float specular = diffuse > 0.0 ? pow(max(dot(normal, halfway), 0.0), 32.0) : 0.0;
    gl_FragColor = vec4(albedo * (0.25 + 0.75 * diffuse) + vec3(0.3 * specular), baseColor.a);
}
