// Transforms: a sphere scaled into an ellipsoid, turned and moved boxes,
// and a leaning cylinder, with shadows and a reflection of the turned shapes.
camera { location <0, 4, 10> up <0, 1, 0> right <1.33333, 0, 0> look_at <0, 0.5, 0> }
light_source { <-6, 10, 8> color rgb <1, 1, 1> }
plane { <0, 1, 0>, -1 pigment { color rgb <0.75, 0.75, 0.7> } finish { ambient 0.15 diffuse 0.7 } }
plane { <0, 0, 1>, -4 pigment { color rgb <0.1, 0.1, 0.15> } finish { ambient 0.05 diffuse 0.2 reflection 0.6 } }
sphere { <0, 0, 0>, 1 scale <1.6, 0.6, 0.8> rotate <0, 0, 25> translate <-3, 0.6, 0> pigment { color rgb <0.9, 0.3, 0.2> } finish { ambient 0.1 diffuse 0.8 specular 0.6 roughness 0.02 } }
box { <-0.7, -0.7, -0.7>, <0.7, 0.7, 0.7> rotate <45, 0, 0> rotate <0, 30, 0> translate <0, 0.3, 0> pigment { color rgb <0.2, 0.6, 0.9> } finish { ambient 0.1 diffuse 0.8 specular 0.5 } }
box { <-0.5, -0.5, -0.5>, <0.5, 0.5, 0.5> scale <2, 0.3, 0.6> rotate <0, -40, 0> translate <0.3, -0.85, 1.8> pigment { color rgb <0.95, 0.85, 0.2> } finish { ambient 0.15 diffuse 0.8 } }
cylinder { <0, 0, 0>, <0, 2, 0>, 0.5 rotate <0, 0, -30> translate <2.6, -1, 0> pigment { color rgb <0.3, 0.8, 0.35> } finish { ambient 0.1 diffuse 0.8 specular 0.4 } }
