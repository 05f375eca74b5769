#pragma once
// What the update-item list needs of the transfer engine, as a seam: the
// engine's task mutex (held while the list's queue changes, so the engine
// never picks a task while items come or go) and the removal of the pending
// transfer tasks of an item before the item is freed.
//
// The engine's function_manager implements this interface and attaches
// itself with InfFileUpdateList::attachEngine when it is built. Until then
// the list guards itself with a mutex of its own and has no tasks to drop.
// Lock order: the task mutex first, then whatever removeItemRecords takes.
class InfFileUpdate;

class update_item_engine {
public:
    virtual ~update_item_engine() = default;
    virtual void lockTasks() = 0;
    virtual void unlockTasks() = 0;
    // Drops every pending download, unzip and copy task of the item.
    virtual void removeItemRecords(InfFileUpdate* item) = 0;
};
