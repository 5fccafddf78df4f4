light_source { <0, 5, 0> color rgb <1, 1, 1> spotlight radius 20 falloff 10 point_at <0, 5, 0> }
light_source { <0, 5, 0> color rgb <1, 1, 1> area_light <1, 0, 0>, <0, 0, 1>, 0, 99 }
fog { color rgb <1, 1, 1> }
