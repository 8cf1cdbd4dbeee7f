# Copies SOURCE into TARGET_DIR when it exists; quiet when it does not.
if(EXISTS "${SOURCE}")
  file(COPY "${SOURCE}" DESTINATION "${TARGET_DIR}")
endif()
