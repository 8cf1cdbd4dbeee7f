#include "engine/UpdateResult.h"

ResultMessage MessageForResult(UpdateResult result) {
    switch (result) {
        case UpdateResult::Updated:
            return {MsgUpdated, MessageKind::Information, true};
        case UpdateResult::NoHandheld:
            return {MsgNoDevice, MessageKind::Warning, false};
        case UpdateResult::SeveralHandhelds:
            return {MsgManyDevices, MessageKind::Warning, false};
        case UpdateResult::DataFileError:
            return {MsgDataFileError, MessageKind::Error, true};
        case UpdateResult::ReadError:
            return {MsgReadError, MessageKind::Error, false};
        case UpdateResult::WrongVersion:
            return {MsgOldHandheld, MessageKind::Information, true};
        case UpdateResult::AlreadyUpdated:
            return {MsgAlreadyUpdated, MessageKind::Information, true};
        case UpdateResult::CharacterNotSupported:
            return {MsgCharacterUnsupported, MessageKind::Error, true};
        case UpdateResult::DataMissing:
            return {MsgDataMissing, MessageKind::Error, true};
        case UpdateResult::DataTooLarge:
            return {MsgNoRoom, MessageKind::Error, true};
        case UpdateResult::WriteError:
            return {MsgWriteError, MessageKind::Error, false};
        case UpdateResult::NoRights:
            return {MsgNeedsAdministrator, MessageKind::Error, false};
        case UpdateResult::DriveInUse:
            return {MsgDriveInUse, MessageKind::Warning, false};
    }
    return {MsgWriteError, MessageKind::Error, false};
}
