sphere { <0, 0, 0>, 1 scale 1 2 } sphere { <0, 0, 0>, 1 scale 0 }
