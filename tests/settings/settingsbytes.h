#pragma once
// Builds a settings file byte by byte from a record, without the program's writer, and notes
// where each field (and each history entry) ends together with what reading it sets. A test
// can then say, for a file cut at any byte, which settings a window must have taken over.

#include "settings/settingsfile.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class TSettingsBytes {
public:
  using TApply = std::function<void(TSettingsRecord&)>;
  struct TStep {
    qsizetype End;  // the bytes needed to read this step completely
    int Field;      // 1 to 29
    TApply Apply;
  };

  // The file of `source` in field order; `trueByte` is written for every true flag.
  static TSettingsBytes Of(const TSettingsRecord& source, quint8 trueByte = 1) {
    TSettingsBytes b(source, trueByte);
    b.PutInt32(source.Version);
    b.Done(1, {});
    b.Str(2, &TSettingsRecord::LeftOpenFolder);
    b.Str(3, &TSettingsRecord::RightOpenFolder);
    b.Bool(4, &TSettingsRecord::IgnoreWhitespace);
    b.Bool(5, &TSettingsRecord::IgnoreWSAmount);
    b.Bool(6, &TSettingsRecord::IgnoreLeadingWS);
    b.Bool(7, &TSettingsRecord::IgnoreTrailingWS);
    b.Bool(8, &TSettingsRecord::IgnoreBlankLines);
    b.Bool(9, &TSettingsRecord::IgnoreCase);
    b.Bool(10, &TSettingsRecord::ShowLineNumbers);
    b.Bool(11, &TSettingsRecord::ShowGridLines);
    b.Int32(12, &TSettingsRecord::FontColor);
    b.Int32(13, &TSettingsRecord::FontSize);
    b.Str(14, &TSettingsRecord::FontName);
    b.Int32(15, &TSettingsRecord::ColorAddedLines);
    b.Int32(16, &TSettingsRecord::ColorRemovedLines);
    b.Int32(17, &TSettingsRecord::ColorChangedLines);
    b.Int32(18, &TSettingsRecord::ColorDifferentTextInLine);
    b.History(19, &TSettingsRecord::LeftHistory);
    b.History(21, &TSettingsRecord::RightHistory);
    b.Bool(23, &TSettingsRecord::Maximized);
    b.Int32(24, &TSettingsRecord::WindowLeft);
    b.Int32(25, &TSettingsRecord::WindowTop);
    b.Int32(26, &TSettingsRecord::WindowWidth);
    b.Int32(27, &TSettingsRecord::WindowHeight);
    b.Int32(28, &TSettingsRecord::ColWidth1);
    b.Int32(29, &TSettingsRecord::ColWidth2);
    return b;
  }

  const QByteArray& Bytes() const { return FBytes; }
  const std::vector<TStep>& Steps() const { return FSteps; }

  // Where field n ends.
  qsizetype EndOf(int field) const {
    qsizetype end = 0;
    for (const TStep& step : FSteps)
      if (step.Field == field) end = step.End;
    return end;
  }

  // What a reader of the first `size` bytes takes over into `record`.
  TSettingsRecord AppliedTo(TSettingsRecord record, qsizetype size) const {
    for (const TStep& step : FSteps)
      if (step.End <= size && step.Apply) step.Apply(record);
    return record;
  }

private:
  TSettingsBytes(const TSettingsRecord& source, quint8 trueByte) : FSource(source), FTrueByte(trueByte) {}

  void PutInt32(qint32 value) {
    const quint32 bits = quint32(value);
    for (int shift = 0; shift < 32; shift += 8) FBytes.append(char((bits >> shift) & 0xFF));
  }
  void PutStr(const QString& text) {
    PutInt32(qint32(text.size()));
    for (QChar c : text) FBytes.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
  }
  void Done(int field, TApply apply) { FSteps.push_back({FBytes.size(), field, std::move(apply)}); }

  template <typename T>
  static TApply Take(T TSettingsRecord::*member, T value) {
    return [member, value](TSettingsRecord& r) { r.*member = value; };
  }

  void Int32(int field, qint32 TSettingsRecord::*member) {
    PutInt32(FSource.*member);
    Done(field, Take(member, FSource.*member));
  }
  void Bool(int field, bool TSettingsRecord::*member) {
    FBytes.append(char(FSource.*member ? FTrueByte : 0));
    Done(field, Take(member, FSource.*member));
  }
  void Str(int field, QString TSettingsRecord::*member) {
    PutStr(FSource.*member);
    Done(field, Take(member, FSource.*member));
  }
  // The count empties the list; every entry read is appended at once.
  void History(int countField, QStringList TSettingsRecord::*member) {
    const QStringList& entries = FSource.*member;
    PutInt32(qint32(entries.size()));
    Done(countField, [member](TSettingsRecord& r) { (r.*member).clear(); });
    for (const QString& entry : entries) {
      PutStr(entry);
      Done(countField + 1, [member, entry](TSettingsRecord& r) { (r.*member).append(entry); });
    }
    if (entries.isEmpty()) Done(countField + 1, {});
  }

  TSettingsRecord FSource;
  quint8 FTrueByte;
  QByteArray FBytes;
  std::vector<TStep> FSteps;
};
