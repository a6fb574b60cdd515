# contactsheet: renders every texture slot and every mesh of data/ onto one
# picture (docs/assets.png) on the headless GL context. Run by hand from the
# repository root: build/tests/contactsheet docs/assets.png
add_executable(contactsheet ${CMAKE_SOURCE_DIR}/tools/contactsheet/main.cpp)
target_link_libraries(contactsheet PRIVATE vallup_show)
