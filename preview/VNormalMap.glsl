#version 120
// Normal-mapped preview shading, vertex stage. Lighting is done per fragment
// in eye space; the tangent frame comes from the normal and "Tangent".

attribute vec3 Tangent;  // along the texture's s direction

varying vec3 eyePosition;
varying vec3 eyeNormal;
varying vec3 eyeTangent;
varying vec2 texCoord;
varying vec4 baseColor;

void main() {
    eyePosition = vec3(gl_ModelViewMatrix * gl_Vertex);
    eyeNormal = gl_NormalMatrix * gl_Normal;
    eyeTangent = gl_NormalMatrix * Tangent;
    texCoord = gl_MultiTexCoord0.st;
    baseColor = gl_Color;
    gl_Position = ftransform();
}
