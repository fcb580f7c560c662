# Warnings are errors in our own code; third-party headers come in as system headers.
add_library(graphonite_warnings INTERFACE)
target_compile_options(graphonite_warnings INTERFACE -Wall -Wextra -Werror)

# Links a target of ours with the warning set.
function(graphonite_strict target)
  target_link_libraries(${target} PRIVATE graphonite_warnings)
endfunction()
