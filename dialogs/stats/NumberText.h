#pragma once

#include <QString>

// A number as the statistics show it: fixed with two decimals, in the user's
// decimal separator ("10,00").
QString FixedTwo(double value);
