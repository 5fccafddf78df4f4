camera { location <0, 2, 9> up <0, 1, 0> right <1.33, 0, 0> look_at <0, 0, 0> }
light_source { <-6, 10, 8> color rgb <1, 1, 1> }
cylinder { <-2, -1, 0>, <-2, 1, 0>, 0.5 open pigment { color rgbf <1, 0, 0, 0.5> } rotate <0, 0, 20> finish { ambient 0.1 } }
cone { <0, -1, 0>, 0.8, <0, 1, 0>, 0 scale <1, 2, 1> }
disc { <2, 0, 0>, <0, 0, 1>, 0.8, 0.3 translate <0, 1, 0> scale 2 }
disc { <2, 0, 0>, <0, 1, 0>, 0.8 }
smooth_triangle { <-1, 1, -1>, <0, 0, 1>, <1, 1, -1>, <1, 0, 1>, <0, 2, -1>, <0, 1, 1> }
sphere { <0, 0, 0>, 1 scale 0.5 pigment { color rgb <1, 1, 0> } translate <1, 1, 1> }
box { <-1, -1, -1>, <1, 1, 1> rotate <0, 45, 0> }
mesh { triangle { <0, 0, 0>, <1, 0, 0>, <0, 1, 0> pigment { color rgb <0, 1, 0> } }
       smooth_triangle { <1, 0, 0>, <0, 0, 1>, <1, 1, 0>, <0, 0, 1>, <0, 1, 0>, <0, 0, 1> }
       pigment { color rgb <0, 0, 1> } translate <0, -1, 0> }
obj_mesh { "missing model.obj" smooth }
