// Mirrored balls over a checker floor reflect the sky: a ray that hits
// nothing returns the background colour, in a mirror too.
camera { location <0, 3, 9> up <0, 1, 0> right <1.33333, 0, 0> look_at <0, 0.5, 0> }
background { color rgb <0.35, 0.55, 0.85> }
light_source { <-5, 9, 6> color rgb <1, 1, 1> }
plane { <0, 1, 0>, -1 pigment { checker color rgb <0.95, 0.95, 0.95> color rgb <0.6, 0.1, 0.1> } finish { ambient 0.15 diffuse 0.8 } }
sphere { <-1.6, 0.5, 0>, 1.5 pigment { color rgb <1, 1, 1> } finish { ambient 0 diffuse 0.05 specular 0.8 roughness 0.01 reflection 0.9 } }
sphere { <1.8, 0, 1>, 1 pigment { color rgb <0.9, 0.8, 0.3> } finish { ambient 0.1 diffuse 0.5 specular 0.6 roughness 0.01 reflection 0.5 } }
