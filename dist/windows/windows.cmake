# The Windows program and its zip (`make windows`):
#   vallup-1.0.0-windows-x64/vallup.exe    the show (no console window of its own)
#   vallup-1.0.0-windows-x64/vallup.com    the same from a console: messages and exit status
#   vallup-1.0.0-windows-x64/data/...      as data/ holds it
#   vallup-1.0.0-windows-x64/README.txt
set_target_properties(vallup PROPERTIES WIN32_EXECUTABLE ON)
