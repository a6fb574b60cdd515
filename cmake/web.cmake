# The libraries of a web build (emcmake, Debian's emscripten): libmpg123 and
# libpng (with zlib) built from Debian's sources into VALLUP_WEB_PREFIX
# (scripts/build-web-libs); GL is the browser's WebGL 2 under our own GL 1.1
# subset (gl11/); the page itself stands in for SDL2's window (platform/*_web.cpp).
if(NOT VALLUP_WEB_PREFIX)
  message(FATAL_ERROR "set VALLUP_WEB_PREFIX to the libraries built by scripts/build-web-libs")
endif()
set(prefix ${VALLUP_WEB_PREFIX})

# ---- The web program's link options -------------------------------------
# One list for everything the show's link needs in a browser: the platform
# layer's (platform/*_web.cpp, platform/web/*.js) and the build's. Both the
# build and the web platform edit it; nothing else in the build adds emcc
# -s settings to the program.
set(VALLUP_WEB_GL_LINK_OPTIONS
  # WebGL 2 only: our GL 1.1 subset draws with GLSL ES 3.00 shaders.
  -sMIN_WEBGL_VERSION=2 -sMAX_WEBGL_VERSION=2)
set(VALLUP_WEB_LINK_OPTIONS
  ${VALLUP_WEB_GL_LINK_OPTIONS}
  # A page, not node or a worker.
  -sENVIRONMENT=web
  # The track is decoded whole (about 22 MB of samples) beside the textures.
  -sALLOW_MEMORY_GROWTH=1
  # The show's loop and its question wait on the browser's events: a message
  # box for the click on the page's box, a buffer swap for the next animation
  # frame (platform/web/window.js). Only the calls that lead to those two are
  # instrumented; no wait is reached through a function pointer.
  -sASYNCIFY
  "-sASYNCIFY_IMPORTS=[vallupMessageBox,vallupWaitFrame]"
  -sASYNCIFY_IGNORE_INDIRECT=1
  # data/ packed into vallup.data and mounted at /data: the program starts in
  # /, where app/datadir.cpp finds data/ in the working directory.
  "SHELL:--preload-file ${CMAKE_SOURCE_DIR}/data@/data")
# The platform layer's JavaScript (each platform/web/*.js is an emcc
# --js-library); the program is linked again when one changes.
file(GLOB VALLUP_WEB_JS_LIBRARIES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/platform/web/*.js)
foreach(js ${VALLUP_WEB_JS_LIBRARIES})
  list(APPEND VALLUP_WEB_LINK_OPTIONS "SHELL:--js-library ${js}")
endforeach()
# ---- end of the web program's link options ------------------------------

# The page is the window: no SDL.
add_library(vallup_sdl2 INTERFACE)
add_library(vallup::sdl2 ALIAS vallup_sdl2)

# GL is WebGL 2 (emscripten's OpenGL ES 3 headers and calls); the show's GL
# 1.1 and GLU calls are gl11's, drawn on it (no fixed-function GL beneath).
add_library(vallup_gl INTERFACE)
target_link_options(vallup_gl INTERFACE ${VALLUP_WEB_GL_LINK_OPTIONS})
add_library(vallup::gl ALIAS vallup_gl)
add_library(vallup::gles ALIAS vallup_gl)
add_library(vallup_glu INTERFACE)
add_library(vallup::glu ALIAS vallup_glu)

add_library(vallup_mpg123 INTERFACE)
target_include_directories(vallup_mpg123 INTERFACE ${prefix}/include)
target_link_libraries(vallup_mpg123 INTERFACE ${prefix}/lib/libmpg123.a)
add_library(vallup::mpg123 ALIAS vallup_mpg123)

add_library(vallup_png INTERFACE)
target_include_directories(vallup_png INTERFACE ${prefix}/include)
target_link_libraries(vallup_png INTERFACE ${prefix}/lib/libpng16.a ${prefix}/lib/libz.a)
add_library(vallup::png ALIAS vallup_png)

# The browser offers the rest (Web Audio, the page) through emscripten's
# JavaScript libraries.
add_library(vallup_system INTERFACE)
add_library(vallup::system ALIAS vallup_system)

# A web build compiles platform/NAME_web.cpp and the files every target
# shares (sound.cpp's stream and clock, sound_dummy.cpp, png.cpp); SDL's
# window and audio and the desktop systems' own files stay out.
set(VALLUP_OTHER_PLATFORM_FILES
    "(_linux|_windows|/window|/sound_sdl|/sound_pulse|/sound_wasapi)\\.cpp$")
