// Project files (XML property lists) from arbitrary bytes: reading never fails badly, and a
// project read from anything saves and reads back to the same fields.
#include "app/MQProjectFile.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<QVariantMap> dictionary = PropertyList::readDictionary(bytes);
    if (!dictionary) {
        return 0;
    }
    // Every value type, nested ones included, can be written.
    (void)PropertyList::writeDictionary(*dictionary);

    MQProjectFile project;
    project.updateWithDictionary(*dictionary);
    const std::optional<QVariantMap> saved =
        PropertyList::readDictionary(PropertyList::writeDictionary(project.toDictionary()));
    if (!saved) {
        std::abort();
    }
    MQProjectFile reread;
    reread.updateWithDictionary(*saved);
    if (reread.toDictionary() != project.toDictionary()) {
        std::abort();
    }
    return 0;
}
