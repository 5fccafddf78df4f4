global_settings { ambient_light rgb <1, 1, 1> }
/* block comments are words */ sphere//note
union { sphere { <1, 1, 1>, 0.5 scale 2 } }
light_source { <0, 0, 10> color rgbf <1, 1, 1, 0.5> }
sphere { <0, 0, 0>, 1.0//glued
  pigment { color rgb <1e2, -.5, +3> } finish { phong 1 diffuse 0.5 } }
