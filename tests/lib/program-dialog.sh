# The programming dialog's template in dialog units, for every script that clicks its buttons:
# the dialog's pixel size divided by its size here gives the size of a unit in the font in use.
# Sourced, not run. tst_maindialog checks these numbers against the template the tool is built
# from, so a changed template fails there instead of misplacing clicks.
readonly program_units_w=230 program_units_h=165
readonly start_button_units=(7 25 50 14)
readonly done_button_units=(173 25 50 14)
