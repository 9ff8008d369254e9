// SPDX-License-Identifier: MIT
#include "document/StepRecipe.h"

#include "base/UserError.h"
#include "pictures/Pictures.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>

std::shared_ptr<const StepResource> StepResource::fromFileBytes(QByteArray bytes, const QString& suffix,
                                                                const QString& name) {
    auto resource = std::shared_ptr<StepResource>(new StepResource);
    resource->m_bytes = std::move(bytes);
    resource->m_suffix = suffix.toLower();
    resource->m_name = name;
    return resource;
}

std::shared_ptr<const StepResource> StepResource::fromFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw UserError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()));
    const QFileInfo info(path);
    return fromFileBytes(file.readAll(), info.suffix(), info.fileName());
}

std::shared_ptr<const StepResource> StepResource::fromPicture(const QImage& picture, const QString& name) {
    auto resource = std::shared_ptr<StepResource>(new StepResource);
    resource->m_picture = picture;
    resource->m_name = name;
    return resource;
}

QImage StepResource::picture() const {
    if (!m_picture.isNull() || m_bytes.isEmpty())
        return m_picture;
    return decodePicture(m_bytes, m_suffix, m_name);
}

qint64 StepResource::bytes() const {
    return qint64(m_bytes.size()) + qint64(m_picture.sizeInBytes());
}

int StepRecipe::addResource(ResourcePointer resource) {
    resources.append(std::move(resource));
    return int(resources.size()) - 1;
}

const StepResource& StepRecipe::resource(int index) const {
    if (index < 0 || index >= resources.size() || !resources.at(index))
        throw UserError(QStringLiteral("The step \"%1\" names a picture it does not have.").arg(tool));
    return *resources.at(index);
}

qint64 StepRecipe::resourceBytes() const {
    qint64 total = 0;
    for (const ResourcePointer& resource : resources)
        total += resource ? resource->bytes() : 0;
    return total;
}
