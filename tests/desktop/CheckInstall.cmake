# Installs the build into STAGE and checks that exactly the program, its desktop entry,
# its metainfo and its icons arrive, each icon a PNG of its size.
file(REMOVE_RECURSE ${STAGE})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${STAGE}
  OUTPUT_QUIET RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(sizes 16 22 24 32 48 64 128 256 512)
set(expected
  ${BINDIR}/QelEditor
  ${DATADIR}/applications/${APP_ID}.desktop
  ${DATADIR}/metainfo/${APP_ID}.metainfo.xml
  ${DATADIR}/icons/hicolor/scalable/apps/${APP_ID}.svg)
foreach(size IN LISTS sizes)
  list(APPEND expected ${DATADIR}/icons/hicolor/${size}x${size}/apps/${APP_ID}.png)
endforeach()

file(GLOB_RECURSE installed RELATIVE ${STAGE} ${STAGE}/*)
list(SORT installed)
list(SORT expected)
if(NOT installed STREQUAL expected)
  string(REPLACE ";" "\n  " installed_lines "${installed}")
  string(REPLACE ";" "\n  " expected_lines "${expected}")
  message(FATAL_ERROR "installed:\n  ${installed_lines}\nexpected:\n  ${expected_lines}")
endif()

# A PNG starts with its 8-byte signature, then the IHDR chunk: width and height as
# big-endian 32-bit numbers at offsets 16 and 20.
foreach(size IN LISTS sizes)
  set(png ${STAGE}/${DATADIR}/icons/hicolor/${size}x${size}/apps/${APP_ID}.png)
  file(READ ${png} header LIMIT 24 HEX)
  string(SUBSTRING "${header}" 0 16 signature)
  string(SUBSTRING "${header}" 32 8 width)
  string(SUBSTRING "${header}" 40 8 height)
  math(EXPR width "0x${width}")
  math(EXPR height "0x${height}")
  if(NOT signature STREQUAL "89504e470d0a1a0a" OR NOT width EQUAL size OR NOT height EQUAL size)
    message(FATAL_ERROR "${png}: not a ${size}x${size} PNG (${width}x${height})")
  endif()
endforeach()

# The desktop entry starts the installed program by name, with the files it is given.
file(STRINGS ${STAGE}/${DATADIR}/applications/${APP_ID}.desktop exec REGEX "^Exec=")
if(NOT exec STREQUAL "Exec=QelEditor %F")
  message(FATAL_ERROR "desktop entry: ${exec}")
endif()
message(STATUS "installed tree as expected: ${STAGE}")
