sphere { <0, 0, 0>, 1 pigment { image_map { png "no_such_map.png" map_type 1 once interpolate 2 } } }
plane { <0, 1, 0>, 0 pigment { image_map { bmp "" } } }
