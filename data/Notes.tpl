Program notes
-------------
Purpose:
Drive and option module:
Parameters used:
Changes:
