# Turns the PEM public key named by ZANVORO_UPDATE_KEY into the 64-byte point (X then Y) the
# program compares update signatures against, as 128 hex digits in ZANVORO_UPDATE_KEY_HEX.
# Only a P-256 key in the form `openssl ec -pubout` writes is accepted: anything else would
# give a build that refuses every update, or trusts a key its maker did not mean.
set(ZANVORO_UPDATE_KEY_HEX "")
if(NOT ZANVORO_UPDATE_KEY)
  return()
endif()
if(NOT EXISTS "${ZANVORO_UPDATE_KEY}")
  message(FATAL_ERROR "ZANVORO_UPDATE_KEY: no file ${ZANVORO_UPDATE_KEY}")
endif()
find_program(ZANVORO_OPENSSL openssl)
if(NOT ZANVORO_OPENSSL)
  message(FATAL_ERROR "openssl not found; it reads the update key (Debian: openssl).")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${ZANVORO_UPDATE_KEY}")
set(_zanvoro_key_der "${CMAKE_BINARY_DIR}/update_key.der")
execute_process(
  COMMAND "${ZANVORO_OPENSSL}" pkey -pubin -in "${ZANVORO_UPDATE_KEY}" -outform DER
          -out "${_zanvoro_key_der}"
  RESULT_VARIABLE _zanvoro_key_failed ERROR_VARIABLE _zanvoro_key_error)
if(_zanvoro_key_failed)
  message(FATAL_ERROR "ZANVORO_UPDATE_KEY: ${ZANVORO_UPDATE_KEY} is not a PEM public key "
                      "(${_zanvoro_key_error})")
endif()
file(READ "${_zanvoro_key_der}" _zanvoro_key HEX)
file(REMOVE "${_zanvoro_key_der}")
# SubjectPublicKeyInfo of an uncompressed P-256 point: id-ecPublicKey, prime256v1, then 04 X Y.
set(_zanvoro_p256_prefix "3059301306072a8648ce3d020106082a8648ce3d03010703420004")
string(LENGTH "${_zanvoro_p256_prefix}" _zanvoro_prefix_length)
string(LENGTH "${_zanvoro_key}" _zanvoro_key_length)
math(EXPR _zanvoro_expected_length "${_zanvoro_prefix_length} + 128")
if(NOT _zanvoro_key_length EQUAL _zanvoro_expected_length)
  message(FATAL_ERROR "ZANVORO_UPDATE_KEY: ${ZANVORO_UPDATE_KEY} is not an uncompressed P-256 key")
endif()
string(SUBSTRING "${_zanvoro_key}" 0 ${_zanvoro_prefix_length} _zanvoro_key_prefix)
if(NOT _zanvoro_key_prefix STREQUAL _zanvoro_p256_prefix)
  message(FATAL_ERROR "ZANVORO_UPDATE_KEY: ${ZANVORO_UPDATE_KEY} is not an uncompressed P-256 key")
endif()
string(SUBSTRING "${_zanvoro_key}" ${_zanvoro_prefix_length} 128 ZANVORO_UPDATE_KEY_HEX)
string(TOLOWER "${ZANVORO_UPDATE_KEY_HEX}" ZANVORO_UPDATE_KEY_HEX)
