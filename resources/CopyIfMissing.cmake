# cmake -DSOURCE=FILE -DDESTINATION=FILE -P CopyIfMissing.cmake
# Copies SOURCE to DESTINATION only where none exists, so a model table that
# the user edited beside the program survives every rebuild.
if(NOT EXISTS "${DESTINATION}")
  file(COPY_FILE "${SOURCE}" "${DESTINATION}")
endif()
