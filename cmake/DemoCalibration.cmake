# Demo calibration tables beside the program, so that a run from the build offers the instrument
# simulator's sensors ("InputCalibration") and finds the gain tables of its instrument number
# ("GainCalibration"). The simulator's channel blocks are computed with these same responses.
set(demo_calibration_source ${CMAKE_CURRENT_SOURCE_DIR}/resources/calibration)

file(GLOB demo_sensor_tables CONFIGURE_DEPENDS ${demo_calibration_source}/InputCalibration/*.txt)
foreach(table ${demo_sensor_tables})
  get_filename_component(name ${table} NAME)
  configure_file(${table} ${AMT_PROGRAM_DIR}/InputCalibration/${name} COPYONLY)
endforeach()

# Flat gain tables of the simulated instrument: amplitude the gain factor, phase 0, for every
# channel and every gain of the current hardware in each rate-class folder.
set(demo_machine_id 1001)
set(demo_gains_Low-H 1 40 160 640)
set(demo_gains_Low-L 1 40 160 640)
set(demo_gains_High-H 1 10 100 500)
foreach(folder Low-H Low-L High-H)
  foreach(channel Ex Ey Ex2 Hx Hy)
    foreach(GAIN ${demo_gains_${folder}})
      configure_file(${demo_calibration_source}/demo-gain-table.txt.in
                     ${AMT_PROGRAM_DIR}/GainCalibration/${demo_machine_id}/${folder}/${channel}-${GAIN}.txt @ONLY)
    endforeach()
  endforeach()
endforeach()
