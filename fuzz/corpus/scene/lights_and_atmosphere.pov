camera { location <0, 3, 9> up <0, 1, 0> angle 60 look_at <0, 0.5, 0> aperture 0.3 focal_point <0, 0, 0> blur_samples 2 }
background { color rgb <0.3, 0.5, 0.8> }
fog { distance 25 color rgb <0.6, 0.7, 0.8> }
light_source { <-4, 8, 4> color rgb <1, 1, 1> area_light <2, 0, 0>, <0, 0, 2>, 3, 2 jitter }
light_source { <3, 6, 2> color rgb <1, 0.9, 0.6> spotlight radius 10 falloff 20 tightness 10 point_at <2, -1, 0> fade_distance 5 fade_power 2 }
light_source { <0, 10, 0> color rgb <0.3, 0.3, 0.3> parallel point_at <0, 0, 0> shadowless }
plane { <0, 1, 0>, -1 pigment { checker color rgb <0.9, 0.9, 0.9> color rgb <0.2, 0.3, 0.5> } finish { ambient 0.1 diffuse 0.8 } }
sphere { <-1.5, 0.5, 0>, 1.5 pigment { color rgb <1, 1, 1> } finish { ambient 0 diffuse 0.1 reflection 0.9 } }
sphere { <2, 0, 0>, 1 pigment { checker color rgb <0.3, 0.8, 0.3> color rgb <1, 1, 0> } finish { ambient 0.1 diffuse 0.8 specular 0.5 } }
