# The libraries of a Linux build: Debian's, through pkg-config.
find_package(PkgConfig REQUIRED)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(EGL REQUIRED IMPORTED_TARGET egl)
pkg_check_modules(OPENGL REQUIRED IMPORTED_TARGET opengl)
pkg_check_modules(GLU REQUIRED IMPORTED_TARGET glu)
pkg_check_modules(GLES REQUIRED IMPORTED_TARGET glesv2)
pkg_check_modules(MPG123 REQUIRED IMPORTED_TARGET libmpg123)
pkg_check_modules(PNG REQUIRED IMPORTED_TARGET libpng)
pkg_check_modules(PULSE REQUIRED IMPORTED_TARGET libpulse)

add_library(vallup::sdl2 ALIAS PkgConfig::SDL2)
add_library(vallup::gl ALIAS PkgConfig::OPENGL)
add_library(vallup::glu ALIAS PkgConfig::GLU)
# OpenGL ES 3 for gl11's shader path (--gles).
add_library(vallup::gles ALIAS PkgConfig::GLES)
# gl11 may pass the show's calls straight to GL 1.1 and GLU (the default).
set(VALLUP_HAS_FIXED_GL ON)
add_library(vallup::mpg123 ALIAS PkgConfig::MPG123)
add_library(vallup::png ALIAS PkgConfig::PNG)
# Headless GL through EGL; the sound server's client library.
add_library(vallup_system INTERFACE)
target_link_libraries(vallup_system INTERFACE PkgConfig::EGL PkgConfig::PULSE)
add_library(vallup::system ALIAS vallup_system)

set(VALLUP_OTHER_PLATFORM_FILES "(_windows|_web|/sound_wasapi)\\.cpp$")
