/* Product identity, read by the resource script and by the program's code alike. */
#pragma once

/* The trailing blank is part of the name: the "already open" message shows it. */
#define KIV_PRODUCT_NAME "kivALDERVIK "
#define KIV_FILE_DESCRIPTION "Kiv Aldervik Update Installer"
#define KIV_COMPANY_NAME "Kiv Software"
/* The one place of the version: the build derives the version resource's numbers and the
   manifest's from it (CMakeLists.txt). */
#define KIV_VERSION_TEXT "3.00.0013"
