#pragma once
// An image list: the icons that actions of one action list refer to by ImageIndex.
#include <cstdint>

#include <QIcon>
#include <QObject>
#include <QVector>

class TImageList : public QObject {
public:
    explicit TImageList(QObject* owner = nullptr) : QObject(owner) {}

    int32_t Add(const QIcon& icon);
    int32_t Count() const { return int32_t(FImages.size()); }
    // An empty icon for an index outside the list.
    QIcon Icon(int32_t index) const;
    void Clear() { FImages.clear(); }

private:
    QVector<QIcon> FImages;
};
