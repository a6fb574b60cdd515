# The music clock's tests and benchmarks make their MP3 tracks at run time with
# libmp3lame: the unit tests compile the click-track maker among their
# sources; benchmarks get it as a library.
find_library(MP3LAME_LIBRARY mp3lame REQUIRED)
target_link_libraries(unit_tests PRIVATE ${MP3LAME_LIBRARY})

add_library(vallup_clicktrack STATIC ${CMAKE_CURRENT_SOURCE_DIR}/unit/music_clicktrack.cpp)
target_include_directories(vallup_clicktrack PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/unit)
target_link_libraries(vallup_clicktrack PUBLIC ${MP3LAME_LIBRARY})

# The benchmarks are made after the tests: link them at the end of the project.
function(vallup_link_audio_benches)
  foreach(name audio_clock audio_seek)
    if(TARGET bench_${name})
      target_link_libraries(bench_${name} PRIVATE vallup_clicktrack)
    endif()
  endforeach()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL vallup_link_audio_benches)
