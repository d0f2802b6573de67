#pragma once

#define IDD_MINIMAL_PAGE 100
