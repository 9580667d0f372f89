# The channel store with its file, the history list and the switching of
# channels. What switching needs from windows, the capture graph and the tuner
# comes in through CTuningHost, so the library and its tests need no window.
add_library(orvixchannels STATIC
  ChannelHistory.cpp
  ChannelRecord.cpp
  ChannelStore.cpp
  ChannelStoreNumbers.cpp
  ChannelTuning.cpp
  CountryPlan.cpp
  TuningHost.cpp
  TunerPll.cpp
)
target_include_directories(orvixchannels PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(orvixchannels PUBLIC orvixapp framework Bandatlas orvixinterfaces ole32)

orvix_add_test(orvixplus_channels_test
  SOURCES ChannelStore_test.cpp ChannelTuning_test.cpp ChannelHistory_test.cpp
  LIBS orvixchannels)

# The channel file, the history and the settings file, damaged every way the
# sweep knows, through their own loaders.
orvix_add_test(orvixplus_files_sweep_test
  SOURCES StoredFiles_sweep_test.cpp
  LIBS orvixchannels)
