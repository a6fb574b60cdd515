# The music synthesiser's own parts (loudness meter, limiter) are tested in
# the unit tests, built from the generator's source.
target_sources(unit_tests PRIVATE ${CMAKE_SOURCE_DIR}/tools/assetgen/synth.cpp)
target_include_directories(unit_tests PRIVATE ${CMAKE_SOURCE_DIR}/tools/assetgen)
