# Writes a machine hive naming INSTALL_DIR as the installation folder, to HIVE_FILE.
# Used at configure time (build tree) and at install time (cmake --install).
string(REPLACE "\\" "\\\\" escaped "${INSTALL_DIR}")
string(REPLACE "\"" "\\\"" escaped "${escaped}")
file(WRITE "${HIVE_FILE}"
  "Windows Registry Editor Version 5.00\n\n[Software]\n\n[Software\\Velto]\n\"InstallDir\"=\"${escaped}\"\n")
