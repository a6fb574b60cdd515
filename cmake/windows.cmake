# The libraries of a Windows build (cmake/mingw-w64.cmake): SDL2, libmpg123
# and libpng built from Debian's sources into VALLUP_WINDOWS_PREFIX
# (scripts/build-windows-libs), zlib from Debian's mingw-w64 package, GL and
# the rest from Windows itself. Everything links statically, so the exe needs
# no DLL beyond Windows' own.
if(NOT VALLUP_WINDOWS_PREFIX)
  message(FATAL_ERROR "set VALLUP_WINDOWS_PREFIX to the libraries built by scripts/build-windows-libs")
endif()
set(prefix ${VALLUP_WINDOWS_PREFIX})

add_library(vallup_sdl2 INTERFACE)
target_include_directories(vallup_sdl2 INTERFACE ${prefix}/include ${prefix}/include/SDL2)
# SDL's static library and the Windows libraries it calls (its generated
# sdl2-config does not list them right).
target_link_libraries(vallup_sdl2 INTERFACE ${prefix}/lib/libSDL2.a
                      user32 gdi32 winmm imm32 ole32 oleaut32 version uuid advapi32 setupapi shell32)
add_library(vallup::sdl2 ALIAS vallup_sdl2)

add_library(vallup_gl INTERFACE)
target_link_libraries(vallup_gl INTERFACE opengl32)
# Windows' GL header wants <windows.h> first unless these two are given; the
# show's own Win32-style names (platform/window.h) would clash with it.
target_compile_definitions(vallup_gl INTERFACE "WINGDIAPI=__declspec(dllimport)"
                           "APIENTRY=__stdcall" "CALLBACK=__stdcall")
add_library(vallup::gl ALIAS vallup_gl)
add_library(vallup_glu INTERFACE)
target_link_libraries(vallup_glu INTERFACE glu32)
add_library(vallup::glu ALIAS vallup_glu)

add_library(vallup_mpg123 INTERFACE)
target_include_directories(vallup_mpg123 INTERFACE ${prefix}/include)
target_link_libraries(vallup_mpg123 INTERFACE ${prefix}/lib/libmpg123.a shlwapi)
target_compile_definitions(vallup_mpg123 INTERFACE MPG123_NO_LARGENAME)
add_library(vallup::mpg123 ALIAS vallup_mpg123)

add_library(vallup_png INTERFACE)
target_include_directories(vallup_png INTERFACE ${prefix}/include)
target_link_libraries(vallup_png INTERFACE ${prefix}/lib/libpng16.a z)
add_library(vallup::png ALIAS vallup_png)

# WASAPI (COM), the multimedia scheduler for the feeding thread.
add_library(vallup_system INTERFACE)
target_link_libraries(vallup_system INTERFACE ole32 uuid ksuser avrt)
add_library(vallup::system ALIAS vallup_system)

set(VALLUP_OTHER_PLATFORM_FILES "(_linux|_posix|_web|/sound_pulse)\\.cpp$")

# One self-contained exe: the C++ runtime, libgcc and winpthread linked in.
add_link_options(-static -static-libgcc -static-libstdc++)
