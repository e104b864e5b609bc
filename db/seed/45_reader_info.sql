-- Messages of the reader look-ups.

insert into msg_mst (msg_id, msg_content) values
    ('ELT205', '没有找到该条码号的读者证！'),
    ('ELT201', '没有找到符合条件的读者！')
on conflict do nothing;
