// Resource numbers of Aurora.rc.
#pragma once

#define IDD_SETTINGS 100
#define IDC_RANDOM_PLAY 101
