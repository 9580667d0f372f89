# The channel scan's walk, the TV wall window and the wall's cycle rules. The
# main dialog's side of both is in orvixmain (MainDlgScan.cpp, MainDlgTvWall.cpp).
add_library(orvixscan STATIC
  ChannelScan.cpp
  MultiPicWindow.cpp
  TvWallCycle.cpp
)
target_link_libraries(orvixscan PUBLIC orvixcapture orvixchannels orvixapp orvixskin framework)

# The walk on the simulated card with a real capture graph, hand-made tables
# and the worker's wait.
orvix_add_test(orvixplus_scan_test
  SOURCES ChannelScan_test.cpp
  LIBS orvixscan cardstate
  RESOURCE_LOCK device_categories)
add_dependencies(orvixplus_scan_test KestorCard)

# The wall window, its painting and notifications, and the cycle's rules.
orvix_add_test(orvixplus_tvwall_test
  SOURCES MultiPicWindow_test.cpp TvWallCycle_test.cpp
  LIBS orvixscan)

# OrvixPlus.exe with a channel file of the test's own: the wall's cycle and
# the ways out of it, a close during a scan. Shows the "Orvix Plus" windows:
# on its own.
orvix_add_test(orvixplus_scanwall_test
  SOURCES ScanWallProgram_test.cpp
  LIBS cardstate orvixchannels orvixapp
  RESOURCE_LOCK orvixplus_window master_volume device_categories)
add_dependencies(orvixplus_scanwall_test OrvixPlus skin_elegance KestorCard)
set_tests_properties(orvixplus_scanwall_test PROPERTIES RUN_SERIAL TRUE)

# scripts/bench-scan.
add_executable(scan_bench ScanBench.cpp)
target_link_libraries(scan_bench PRIVATE orvixscan cardstate testsupport)
set_target_properties(scan_bench PROPERTIES WIN32_EXECUTABLE OFF)
add_dependencies(scan_bench OrvixPlus skin_elegance KestorCard)
