// Cylinders and cones: closed, open (the inside shows) and pointed.
camera { location <0, 4, 10> up <0, 1, 0> right <1.33333, 0, 0> look_at <0, 0.5, 0> }
light_source { <-6, 10, 8> color rgb <1, 1, 1> }
light_source { <8, 6, 6> color rgb <0.3, 0.3, 0.4> }
plane { <0, 1, 0>, -1 pigment { color rgb <0.75, 0.75, 0.7> } finish { ambient 0.15 diffuse 0.7 } }
cylinder { <-3.5, -1, 0>, <-3.5, 1.5, 0>, 0.8 pigment { color rgb <0.85, 0.2, 0.15> } finish { ambient 0.1 diffuse 0.8 specular 0.5 roughness 0.05 } }
cylinder { <-1.2, -0.2, 0.5>, <-0.6, 1.8, -0.8>, 0.7 open pigment { color rgb <0.95, 0.8, 0.2> } finish { ambient 0.2 diffuse 0.8 specular 0.3 } }
cone { <1.2, -1, 0>, 1, <1.2, 2, 0>, 0 pigment { color rgb <0.2, 0.7, 0.25> } finish { ambient 0.1 diffuse 0.8 specular 0.4 } }
cone { <3.6, -1, 0.5>, 0.9, <3.6, 1, 0.5>, 0.4 pigment { color rgb <0.25, 0.4, 0.9> } finish { ambient 0.1 diffuse 0.7 specular 0.6 reflection 0.2 } }
cylinder { <-4, -0.7, 2.5>, <4, -0.7, 2.5>, 0.3 pigment { color rgb <0.6, 0.6, 0.65> } finish { ambient 0.1 diffuse 0.5 specular 0.8 reflection 0.4 } }
