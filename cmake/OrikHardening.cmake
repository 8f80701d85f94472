# The hardening Debian builds its daemons with (dpkg-buildflags with hardening=+all), for what the
# plain build compiles: the installed executable, and the tests and benchmarks beside it, so that
# the benchmarks measure the code that is shipped. The gateway faces the vehicle's network on one
# side and HTTP clients on the other.
# - PIE, full RELRO with BIND_NOW: the relocations are resolved at start and then made read-only.
# - -fstack-protector-strong and -fstack-clash-protection.
# - _FORTIFY_SOURCE=2: checked variants of the string and memory functions; it needs an
#   optimising build, so a Debug build goes without it.
# - Control-flow protection: -fcf-protection (x86) or -mbranch-protection=standard (Arm), where the
#   compiler has one.
# - Format strings that are not literals are errors.
# Sanitizer and fuzzing builds keep their own instrumentation instead: _FORTIFY_SOURCE's checked
# functions hide the accesses that AddressSanitizer would report.
option(ORIK_HARDENING "Build with Debian's hardening flags (not with ORIK_SANITIZE or ORIK_BUILD_FUZZ)" ON)

if(ORIK_HARDENING AND ORIK_SANITIZE STREQUAL "" AND NOT ORIK_BUILD_FUZZ)
  include(CheckCXXCompilerFlag)
  add_compile_options(-fPIE -fstack-protector-strong -Wformat -Werror=format-security
                      "$<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
  add_link_options(-pie -Wl,-z,relro -Wl,-z,now)
  check_cxx_compiler_flag(-fstack-clash-protection ORIK_HAS_STACK_CLASH_PROTECTION)
  if(ORIK_HAS_STACK_CLASH_PROTECTION)
    add_compile_options(-fstack-clash-protection)
  endif()
  check_cxx_compiler_flag(-fcf-protection ORIK_HAS_CF_PROTECTION)
  if(ORIK_HAS_CF_PROTECTION)
    add_compile_options(-fcf-protection)
  else()
    check_cxx_compiler_flag(-mbranch-protection=standard ORIK_HAS_BRANCH_PROTECTION)
    if(ORIK_HAS_BRANCH_PROTECTION)
      add_compile_options(-mbranch-protection=standard)
    endif()
  endif()
endif()
