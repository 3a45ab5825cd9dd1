#pragma once

#include <QString>
#include <QTime>

#include <optional>

// Reads what an operator types as a slot's start time of day, the way a
// person in a Chinese locale writes it: 19:12:00, 19:12, 7:12:00, 07:12,
// 7:12 PM, 7:12pm, 下午7:12, 上午7:12:05, also with the full-width digits,
// colons and letters of a Chinese input method (１９：１２：００), and with
// blanks around the text. Minutes and seconds take two digits; an hour
// with a morning/afternoon marker is 1 to 12.
//
// Anything else gives nothing, in particular a text that names a date: the
// clock compares times of day only, so a date would never start the slot.
// Pure.
std::optional<QTime> readTimeOfDay(const QString& text);

// Full-width ASCII forms (U+FF01 to U+FF5E) and the ideographic space as
// their plain ASCII characters; everything else unchanged.
QString toHalfWidth(const QString& text);
