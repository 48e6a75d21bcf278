#pragma once
// A box's typing limit counted as the handheld counts: in bytes of GBK, so
// seven two-byte characters fill a 14-byte box. Text GBK cannot hold cannot
// be typed either, as in a box of the GBK code page.

#include <QValidator>
#include <cstddef>

namespace kestrel {

class GbkByteLimit : public QValidator {
    Q_OBJECT

  public:
    GbkByteLimit(std::size_t maxBytes, QObject* parent);

    State validate(QString& input, int& position) const override;

  private:
    std::size_t maxBytes_;
};

}  // namespace kestrel
