camera { location <0, 4, -8> up <0, 1, 0> right <1.33, 0, 0> look_at <0, 0, 0> }
light_source { <5, 8, -6> color rgb <1, 1, 1> }
plane { <0, 1, 0>, -1 pigment { checker color rgb <1, 1, 1> color rgb <0, 0, 0> scale 2 rotate <0, 30, 0> } finish { ambient 0.3 diffuse 0.6 } }
sphere { <0, 0, 0>, 1 pigment { checker color rgb <1, 0, 0> color rgb <0, 0, 1> scale <0.5, 1, 2> // } not closed
  translate <0.25, 0, 0> } scale 1.5 finish { ambient 0.2 diffuse 0.7 } }
box { <-3, -1, -1>, <-2, 0, 0> pigment { color rgb <0, 1, 0> scale 3 } finish { ambient 0.2 } }
cone { <2, -1, 0>, 1, <2, 1, 0>, 0 pigment checker color rgb <1, 1, 0> color rgb <0, 1, 1> { scale 2 } finish { ambient 0.3 diffuse 0.6 } }
disc { <0, 2, 0>, <0, 1, 0>, 1 pigment { checker color rgb <1, 1, 1> color rgb <1, 0, 1> } { translate <1, 0, 0> } finish { ambient 0.3 } }
mesh { triangle { <-1, 0, 2>, <1, 0, 2>, <0, 1, 2> pigment { checker color rgb <1, 0, 0> color rgb <1, 1, 1> scale 0.25 } }
       triangle { <1, 0, 2>, <2, 0, 2>, <1, 1, 2> pigment { checker color rgb <0, 0, 1> color rgb <1, 1, 1> } }
       translate <0, 0, 1> rotate <0, 15, 0> finish { ambient 0.5 diffuse 0.5 } }
