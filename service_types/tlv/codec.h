#pragma once

// TLV coding of field values, for any element structure of either consumed service:
//   decode_field_value<T>(payload) -> std::vector<T>       (whole payload)
//   deserialize_field_value(cursor, std::vector<T>&)       (at a read cursor)
//   encode_field_value(const std::vector<T>&) -> bytes     (complete payload)
//   serialize_field_value(const std::vector<T>&, bytes&)   (appends)

#include "service_types/tlv/errors.h"
#include "service_types/tlv/reader.h"
#include "service_types/tlv/structure.h"
#include "service_types/tlv/wire.h"
#include "service_types/tlv/writer.h"
