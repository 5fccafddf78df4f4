sphere { <0, 0, 0>, 1 finish { ambient 0.1 diffuse 0.2 } pigment { color rgbf <1, 0, 0, 0.5> } // note
finish { ambient 0.1 diffuse 0.2 } pigment { color rgbf <1, 0, 0, 0.5> } // note
finish { ambient 0.1 diffuse 0.2 } pigment { color rgbf <1, 0, 0, 0.5> } // note
finish { ambient 0.1 diffuse 0.2 } pigment { color rgbf <1, 0, 0, 0.5> } // note
finish { ambient 0.1 diffuse 0.2 } pigment { color rgbf <1, 0, 0, 0.5> } // note
finish { ambient 0.1 diffuse 0.2 } pigment { color rgbf <1, 0, 0, 0.5> } // note
finish { ambient 0.1 diffuse 0.2 } pigment { color rgbf <1, 0, 0, 0.5> } // note
finish { ambient 0.1 diffuse 0.2 } pigment { color rgbf <1, 0, 0, 0.5> } // note
finish { ambient 0.1 diffuse 0.2 } pigment { color rgbf <1, 0, 0, 0.5> } // note
finish { ambient 0.1 diffuse 0.2 } pigment { color rgbf <1, 0, 0, 0.5> } // note
finish { ambient 0.1 diffuse 0.2 } pigment { color rgbf <1, 0, 0, 0.5> } // note
finish { ambient 0.1 diffuse 0.2 } pigment { color rgbf <1, 0, 0, 0.5> } // note
}
camera { location <0, 0, 5> up <0, 1, 0> up <0, 1, 0> up <0, 1, 0> up <0, 1, 0> up <0, 1, 0> up <0, 1, 0> up <0, 1, 0> up <0, 1, 0> look_at <0, 0, 0> }
box { <0, 0, 0>, <1, 1, 1> finish { ambient 0.1 ior 1.5 ior 1.5 ior 1.5 ior 1.5 ior 1.5 ior 1.5 ior 1.5 ior 1.5 ior 1.5 ior 1.5 ior 1.5 ior 1.5 ior 1.5 ior 1.5 ior 1.5 ior 1.5 ior 1.5 ior 1.5 ior 1.5 ior 1.5 ior 1.5 ior 1.5 ior 1.5 ior 1.5 ior 1.5 ior 1.5 ior 1.5 ior 1.5 ior 1.5 ior 1.5 } }
