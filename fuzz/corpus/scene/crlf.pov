camera { location <0, 0, 10>
 up <0, 1, 0> right <1, 0, 0> look_at <0, 0, 0> }
light_source { <0, 0, 10> color rgb <1, 1, 1> }
sphere { <0, 0, 0>, 1 }
