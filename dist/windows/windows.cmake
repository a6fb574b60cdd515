# The Windows program and its zip (`make windows`):
#   vallup-VERSION-windows-x64/vallup.exe   the show, a windowed program (no console of its own)
#   vallup-VERSION-windows-x64/vallup.com   the same started from a console: messages, exit status
#   vallup-VERSION-windows-x64/data/...     as data/ holds it
#   vallup-VERSION-windows-x64/README.txt
set_target_properties(vallup PROPERTIES WIN32_EXECUTABLE ON)
target_link_options(vallup PRIVATE -s)   # no symbols: a third of the size

add_executable(vallup_com ${CMAKE_CURRENT_LIST_DIR}/vallup_com.c)
target_link_options(vallup_com PRIVATE -municode -s)
set_target_properties(vallup_com PROPERTIES OUTPUT_NAME vallup SUFFIX .com)

set(VALLUP_ZIP_NAME vallup-${PROJECT_VERSION}-windows-x64)
set(VALLUP_ZIP ${CMAKE_BINARY_DIR}/${VALLUP_ZIP_NAME}.zip)
set(stage ${CMAKE_BINARY_DIR}/zip/${VALLUP_ZIP_NAME})
set(VALLUP_VERSION ${PROJECT_VERSION})
configure_file(${CMAKE_CURRENT_LIST_DIR}/README.txt ${CMAKE_BINARY_DIR}/README.txt @ONLY
               NEWLINE_STYLE CRLF)
file(GLOB_RECURSE VALLUP_DATA_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/music/*
     ${CMAKE_SOURCE_DIR}/data/3d/* ${CMAKE_SOURCE_DIR}/data/textures/*)
add_custom_command(
  OUTPUT ${VALLUP_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${CMAKE_BINARY_DIR}/zip
  COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}/data
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:vallup> $<TARGET_FILE:vallup_com>
          ${CMAKE_BINARY_DIR}/README.txt ${stage}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/data/music ${stage}/data/music
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/data/3d ${stage}/data/3d
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/data/textures
          ${stage}/data/textures
  COMMAND ${CMAKE_COMMAND} -E rm -f ${VALLUP_ZIP}
  COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR}/zip
          ${CMAKE_COMMAND} -E tar cf ${VALLUP_ZIP} --format=zip ${VALLUP_ZIP_NAME}
  DEPENDS vallup vallup_com ${CMAKE_BINARY_DIR}/README.txt ${VALLUP_DATA_FILES}
  COMMENT "zip: ${VALLUP_ZIP}")
add_custom_target(zip ALL DEPENDS ${VALLUP_ZIP})
