#pragma once

#include <QImage>
#include <QSize>

// The pictures of the About page, drawn here so the program ships no image
// files for them.
namespace aboutpictures {

enum class Picture {
    BalanceCurve, // the article on a trader's statistics
    BrokerBanner, // the advertising place for brokers
    Tester,       // the maker's other programs
    Risk,
    Plan,
    Calendar,
};

QImage draw(Picture picture, QSize size);

} // namespace aboutpictures
