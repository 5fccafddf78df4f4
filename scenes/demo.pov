// Demo scene: spheres on a floor, a mirror, a glass ball, a translucent box,
// a triangle and two coloured lights.
camera {
  location <0, 3, 12>
  up <0, 1, 0>
  right <1.33333, 0, 0>
  look_at <0, 1, 0>
}

light_source { <-8, 12, 10> color rgb <1, 0.9, 0.8> }
light_source { <10, 8, 4> color rgb <0.4, 0.5, 1> }

// floor
plane { <0, 1, 0>, -1
  pigment { color rgb <0.8, 0.8, 0.7> }
  finish { ambient 0.15 diffuse 0.7 specular 0.1 roughness 0.1 }
}

// mirror wall behind the scene
plane { <0, 0, 1>, -8
  pigment { color rgb <0.1, 0.1, 0.15> }
  finish { ambient 0.05 diffuse 0.2 specular 0.5 reflection 0.7 }
}

sphere { <-3, 0.5, 0>, 1.5
  pigment { color rgb <0.9, 0.2, 0.15> }
  finish { ambient 0.1 diffuse 0.8 specular 0.6 roughness 0.02 }
}

// glass ball
sphere { <0.5, 0.2, 3>, 1.2
  pigment { color rgbf <0.9, 0.95, 1, 0.85> }
  finish { ambient 0.0 diffuse 0.1 specular 0.9 roughness 0.01 ior 1.5 refraction 1 reflection 0.1 }
}

sphere { <3.2, 0, -1>, 1
  pigment { color rgb <0.2, 0.7, 0.3> }
  finish { ambient 0.1 diffuse 0.7 specular 0.4 reflection 0.3 }
}

// translucent box
box { <1.5, -1, -4>, <4.5, 2, -2.5>
  pigment { color rgbf <0.3, 0.5, 1, 0.6> }
  finish { ambient 0.1 diffuse 0.5 specular 0.5 ior 1.0 refraction 1 }
}

triangle { <-6, -1, -3>, <-2, -1, -5>, <-4.5, 4, -4>
  pigment { color rgb <1, 0.8, 0.1> }
  finish { ambient 0.15 diffuse 0.8 specular 0.3 }
}
