// An OBJ model of ours (tools/make_obj_model.py): a smooth torus with vertex
// normals on a flat hexagonal pedestal, each with its MTL material, beside
// the same model painted by the statement and turned.
camera { location <0, 3.5, 7> up <0, 1, 0> right <1.33333, 0, 0> look_at <0, 0, 0> }
light_source { <-6, 10, 8> color rgb <1, 1, 1> }
light_source { <6, 6, 4> color rgb <0.3, 0.3, 0.35> }
plane { <0, 1, 0>, -1 pigment { color rgb <0.7, 0.75, 0.8> } finish { ambient 0.15 diffuse 0.7 } }
obj_mesh { "models/torus.obj" translate <-1.8, -0.9, 0> }
obj_mesh { "models/torus.obj"
  pigment { color rgb <0.4, 0.5, 0.95> }
  finish { ambient 0.1 diffuse 0.8 specular 0.6 roughness 0.03 }
  rotate <60, 0, 0> scale 0.8 translate <1.8, 0.2, 0>
}
