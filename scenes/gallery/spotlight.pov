// Spotlights: three cones on a floor, full inside their radius,
// fading to nothing at their falloff; the right one is tight.
camera { location <0, 5, 11> up <0, 1, 0> right <1.33333, 0, 0> look_at <0, 0, 0> }
light_source { <0, 12, 12> color rgb <0.15, 0.15, 0.15> }
light_source { <-4, 7, 2> color rgb <1, 1, 1> spotlight radius 12 falloff 20 point_at <-2.5, -1, 0> }
light_source { <0, 8, 3> color rgb <1, 1, 1> spotlight radius 8 falloff 14 point_at <0, -1, -1> }
light_source { <4, 7, 2> color rgb <1, 1, 1> spotlight radius 6 falloff 18 tightness 40 point_at <2.5, -1, 0> }
plane { <0, 1, 0>, -1 pigment { color rgb <0.9, 0.9, 0.9> } finish { ambient 0.05 diffuse 0.9 } }
sphere { <-2.5, 0, 0>, 1 pigment { color rgb <1, 1, 1> } finish { ambient 0.05 diffuse 0.8 specular 0.4 } }
sphere { <0, 0, -1>, 1 pigment { color rgb <1, 1, 1> } finish { ambient 0.05 diffuse 0.8 specular 0.4 } }
sphere { <2.5, 0, 0>, 1 pigment { color rgb <1, 1, 1> } finish { ambient 0.05 diffuse 0.8 specular 0.4 } }
