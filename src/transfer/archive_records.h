// Archive rows and phonebook rows to and from the records of the exchange
// formats: the one place that decides which field of a row each format gets.
#pragma once

#include <string>
#include <vector>

#include "store/row.h"
#include "text/language.h"
#include "transfer/sms_record.h"

namespace missivo {

// The record of a message row: the lossless text, number and kind where the
// row has them (else the caption, the number in From and the kind of the
// image); the contact of a resolved From (its lossless name where the row
// has one); the lossless time, else the
// Date/Time read in the computer's zone (rows without a zone, and rows of
// older archives, are taken as stamped there).
SmsRecord RecordOfRow(const Row& row);

// The archive row of a message from a file: the caption made from the text by
// the read's rule, From the number ("name (number)" when the file names the
// contact), Date/Time the time in its zone (the computer's when the file gave
// none; the moment of the import when the file gave no time at all), Size the
// text's characters, Index "0000", the Type word and picture of the kind
// (Str67 incoming, Str68 outgoing, Str69 draft, Str71 imported), and the
// lossless fields: kind, whole text, number, ISO time and the contact's name
// when Windows-1251 cannot hold it.
Row RowOfRecord(const SmsRecord& record, const LanguageLines& language);

// A phonebook row's contact (UTF-8, the lossless name and number where the
// row has them) and back (contact_fields.h).
ContactRecord ContactOfRow(const Row& row);
Row RowOfContact(const ContactRecord& contact);

}  // namespace missivo
