# Warnings for every target of the project; selected ones are errors so that
# a careless conversion or shadowed name cannot land.
add_library(kestrel_warnings INTERFACE)
if(MSVC)
  target_compile_options(kestrel_warnings INTERFACE /W4 /permissive-)
else()
  target_compile_options(kestrel_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
    -Wnon-virtual-dtor -Wold-style-cast -Wcast-align -Woverloaded-virtual
    -Wnull-dereference -Wimplicit-fallthrough
    -Werror=return-type -Werror=shadow -Werror=conversion -Werror=sign-conversion
    -Werror=format -Werror=uninitialized)
endif()
