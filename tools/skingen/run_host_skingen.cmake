# Run by the win32 tree's skin_images target: paints the skin pictures with
# the generator the host tree built, unless they were painted by this very
# program already. -DGENERATOR=program -DSKIN_DIR=folder -DSTAMP=file
if(NOT EXISTS "${GENERATOR}")
  message(FATAL_ERROR
    "The win32 tree takes its skin pictures from the host tree's generator, "
    "which is not built yet (${GENERATOR}). Build it first:\n"
    "  cmake --build out/host -j2 --target glimmora-skingen\n"
    "(./run build builds the host tree before the win32 tree.)")
endif()
if(EXISTS "${STAMP}" AND "${STAMP}" IS_NEWER_THAN "${GENERATOR}" AND EXISTS "${SKIN_DIR}")
  return()
endif()
execute_process(COMMAND "${GENERATOR}" "${SKIN_DIR}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "glimmora-skingen could not write the skin pictures into ${SKIN_DIR} (${result})")
endif()
file(TOUCH "${STAMP}")
