#version 120
// Phong preview shading, vertex stage: per-fragment lighting in eye space.

varying vec3 eyePosition;
varying vec3 eyeNormal;
varying vec2 texCoord;
varying vec4 baseColor;

void main() {
    eyePosition = vec3(gl_ModelViewMatrix * gl_Vertex);
    eyeNormal = gl_NormalMatrix * gl_Normal;
    texCoord = gl_MultiTexCoord0.st;
    baseColor = gl_Color;
    gl_Position = ftransform();
}
