# A tiny X client the end-to-end tests use to close a window as a window
# manager would. Built next to the binary: build/tests/xclose.
enable_language(C)
pkg_check_modules(X11 REQUIRED IMPORTED_TARGET x11)
add_executable(xclose ${CMAKE_CURRENT_SOURCE_DIR}/support/xclose.c)
target_link_libraries(xclose PRIVATE PkgConfig::X11)
