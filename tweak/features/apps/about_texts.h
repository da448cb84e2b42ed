// The About page's version and model texts, chosen by code. Rows of the last constructor answer
// from them; the coded settings' choices are listed from them.
#pragma once

#include "tweak/features/setting_shapes.h"

namespace vorla::features {

// Codes are tested in this order; there is no 2111.
inline constexpr CodedText kVersionTexts[] = {
    {110, "7.1"},  {111, "8.1"},  {112, "9.1"},  {213, "10.2.4"}, {214, "11.1"},    {215, "11.5"},
    {216, "13.1"}, {217, "13.3"}, {218, "13.5"}, {219, "13.5.1"}, {2110, "14.4.1"}, {2112, "14.5"},
};

// Codes are tested in this order; there is no 1111. The text of 119 keeps the capital I it has
// always been shown with.
inline constexpr CodedText kModelTexts[] = {
    {110, "iPhone 6 Plus"},     {111, "iPhone 7"},       {112, "iPhone 7 Plus"},
    {113, "iPhone 8"},          {114, "iPhone 8 Plus"},  {115, "iPhone X"},
    {116, "iPhone XS"},         {117, "iPhone XS Max"},  {118, "iPhone 11 Pro"},
    {119, "IPhone 11 Pro Max"}, {1110, "iPhone 12 Pro"}, {1112, "iPhone 12 Pro Max"},
};

}  // namespace vorla::features
