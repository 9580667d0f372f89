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

# OrvixPlus.exe with a channel file of the test's own: the wall's cycle, its
# cells' pictures, the dwell and the ways out of it; scans to the end, stopped
# and interrupted by a close. Shows the "Orvix Plus" windows:
# on its own.
orvix_add_test(orvixplus_scanwall_test
  SOURCES ScanWallProgram_test.cpp
  LIBS cardstate cardfilters yuvconvert orvixchannels orvixapp
  RESOURCE_LOCK orvixplus_window master_volume device_categories)
add_dependencies(orvixplus_scanwall_test OrvixPlus skin_elegance KestorCard)
# The scans run as a ctest entry of their own from the same executable, so
# that neither entry takes much above half a minute.
set_tests_properties(orvixplus_scanwall_test PROPERTIES RUN_SERIAL TRUE ENVIRONMENT "GTEST_FILTER=-*Scan*")
add_test(NAME orvixplus_scanprog_test COMMAND orvixplus_scanwall_test --gtest_brief=1 --gtest_filter=*Scan*)
set_tests_properties(orvixplus_scanprog_test PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin
  RESOURCE_LOCK "orvixplus_window;master_volume;device_categories")

# scripts/bench-scan.
add_executable(scan_bench ScanBench.cpp)
target_link_libraries(scan_bench PRIVATE orvixscan cardstate testsupport)
set_target_properties(scan_bench PROPERTIES WIN32_EXECUTABLE OFF)
add_dependencies(scan_bench OrvixPlus skin_elegance KestorCard)
