# Draws the icon's sizes from the SVG: cmake -DRSVG=... -DSVG=... -DDIR=... -P draw_icons.cmake
foreach(size 16 20 24 32 40 48 64 256)
  execute_process(COMMAND ${RSVG} -w ${size} -h ${size} -o ${DIR}/vexmond-${size}.png ${SVG} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "rsvg-convert could not draw the ${size} pixel icon")
  endif()
endforeach()
