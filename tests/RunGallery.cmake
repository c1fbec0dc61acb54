# Renders the view gallery afresh into FOLDER, then checks every picture from disk.
# Run as: cmake -DGALLERY=<kestrove-gallery> -DFOLDER=<folder> -P RunGallery.cmake
file(REMOVE_RECURSE ${FOLDER})
execute_process(COMMAND ${GALLERY} ${FOLDER} RESULT_VARIABLE rendered OUTPUT_QUIET)
if(NOT rendered EQUAL 0)
    message(FATAL_ERROR "the gallery could not render every view (${rendered})")
endif()
execute_process(COMMAND ${GALLERY} --check ${FOLDER} RESULT_VARIABLE checked)
if(NOT checked EQUAL 0)
    message(FATAL_ERROR "pictures missing or blank in ${FOLDER}")
endif()
