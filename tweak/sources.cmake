# The library's sources, for the Linux build (tweak/CMakeLists.txt) and the device's (ios/):
# vorla_tweak_sources(OUT RUNTIME) sets OUT to their paths, with tweak/host/'s layer for RUNTIME
# (gnu or device).
function(vorla_tweak_sources out runtime)
  set(sources
    host/runtime.cc
    host/services.cc
    host/${runtime}/methods.cc
    core/hook.cc
    core/method_directory.cc
    core/feature_gate.cc
    settings/settings_registry.cc
    settings/settings_file.cc
    features/safari_cydia/safari.cc
    features/safari_cydia/cydia.cc
    features/springboard/lock_screen.cc
    features/springboard/home_screen.cc
    features/appearance/battery_status_bar.cc
    features/appearance/tables_labels.cc
    features/appearance/legibility_bars.cc
    features/appearance/keyboard.cc
    features/phone_messages/phone.cc
    features/camera_photos/camera.cc
    features/apps/settings_app.cc
    features/apps/social.cc
    features/last_constructor.cc
    load_sequence.cc
  )
  list(TRANSFORM sources PREPEND ${PROJECT_SOURCE_DIR}/tweak/)
  set(${out} ${sources} PARENT_SCOPE)
endfunction()
