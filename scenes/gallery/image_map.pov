// Image maps: the demo picture (rendered by this program) on a wall, planar
// and upright, and wrapped round a sphere.
camera { location <0, 1, 7> up <0, 1, 0> right <1.33333, 0, 0> look_at <0, 1, 0> }
background { color rgb <0.2, 0.2, 0.25> }
light_source { <-3, 6, 8> color rgb <1, 1, 1> }
plane { <0, 0, 1>, -2 pigment { image_map { png "../../docs/gallery/demo.png" map_type 0 interpolate 2 } } finish { ambient 0.4 diffuse 0.6 } }
plane { <0, 1, 0>, -1 pigment { checker color rgb <0.9, 0.9, 0.9> color rgb <0.3, 0.3, 0.3> } finish { ambient 0.2 diffuse 0.8 } }
sphere { <1.8, 0.2, 1>, 1.2 pigment { image_map { png "../../docs/gallery/demo.png" map_type 1 interpolate 2 } } finish { ambient 0.2 diffuse 0.8 specular 0.4 } }
