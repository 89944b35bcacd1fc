# Stock sounds and the machine hive, for the build tree and for the installation.
# Layout (both): bin/velto, share/velto/<sounds>, share/velto/machine.reg.
set(velto_sounds default.wav Ringing.wav DingDong.wav Silence.wav DefaultAM_Eng.wav DefaultAM_Ch.wav)
list(TRANSFORM velto_sounds PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/sounds/ OUTPUT_VARIABLE velto_sound_files)

# The build tree's own copy, so that velto runs from the build without installing.
set(velto_build_data ${PROJECT_BINARY_DIR}/share/velto)
file(COPY ${velto_sound_files} DESTINATION ${velto_build_data})
set(INSTALL_DIR ${velto_build_data})
set(HIVE_FILE ${velto_build_data}/machine.reg)
include(${CMAKE_CURRENT_SOURCE_DIR}/machine-hive.cmake)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${velto_sound_files}
             ${CMAKE_CURRENT_SOURCE_DIR}/machine-hive.cmake)

install(FILES ${velto_sound_files} DESTINATION share/velto)
install(CODE "
  set(INSTALL_DIR \"\${CMAKE_INSTALL_PREFIX}/share/velto\")
  set(HIVE_FILE \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/share/velto/machine.reg\")
  message(STATUS \"Writing machine hive: \${HIVE_FILE}\")
  include(\"${CMAKE_CURRENT_SOURCE_DIR}/machine-hive.cmake\")
")
