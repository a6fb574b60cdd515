# bench_obj_load compares our loader with tinyobjloader (Debian's
# libtinyobjloader-dev, float build).
find_package(tinyobjloader REQUIRED)
target_link_libraries(bench_obj_load PRIVATE tinyobjloader::tinyobjloader)
